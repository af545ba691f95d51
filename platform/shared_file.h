// Files shared between programs and workstations, opened with the Windows
// share modes the system relies on, mapped onto whole-file locks:
//   exclusive  - nobody else may open the file (write lock)
//   denyWrite  - others may read, nobody may write (read lock)
//   shared     - others may read (read lock; refused while an exclusive
//                holder has the file)
// Every open is non-blocking like a Windows open: a refused lock is
// Err::sharingViolation at once, and retrying is the caller's business.
// Only regular files are opened: a symbolic link (never followed), a
// directory, FIFO, device or socket is Err::accessDenied, found without
// blocking; so is any path with a link below a confined root (paths.h).
// After the lock is granted the open checks that the path still names the
// locked file (device and inode); if another program deleted or replaced it
// in between, the open starts again on the new file.
// Delete, rename and copy take the exclusive lock first and fail with
// Err::sharingViolation while anyone holds the file, as on Windows.
// Files nobody may see half-written are published whole: written under a
// temporary name that matches no pattern of the system, then linked (new)
// or renamed (replace) into place.
// Appends are recorded: an intent record ".~vk<name>.anhang.tmp" beside the
// file ("VK-ANHANG dev ino old-size length") lives while the append runs. A
// writer killed in the middle leaves it, and the next program that opens
// the file (exclusive; a reader first tries to) cuts that append back to
// the old size. Nothing else is ever cut.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace plat {

enum class Share { exclusive, denyWrite, shared };

enum class Disposition {
  openExisting,  // fails with notFound when missing
  createNew,     // fails with fileExists when present
  openAlways,    // opens, or creates when missing
  createAlways,  // creates, or truncates when present (after the lock)
};

enum class Access { read, readWrite };

// Several recorded appends to files of one folder under one intent record
// (the server's pass over a pool's member files): one record file for all
// of them instead of one per append. ".~vkSammel.anhang.tmp" holds a slot
// per append; a slot its writer left open is cut back by the next holder
// of that file like a single record.
class AppendBatch {
 public:
  AppendBatch() = default;
  ~AppendBatch();
  AppendBatch(const AppendBatch&) = delete;
  AppendBatch& operator=(const AppendBatch&) = delete;
  // Starts the batch in `folder`; appends a dead writer's batch left open
  // there are cut back first.
  Err begin(std::string_view folder);
  // Ends it: the record goes, unless a slot is still open (an append whose
  // mark or cut-back failed): then it stays for the next holder of that file.
  void end();

 private:
  friend class SharedFile;
  // Marks slot `nr` done: its append is complete or cut back.
  Err closeSlot(std::int64_t nr);
  int fd_ = -1;
  std::string path_;
  std::int64_t slots_ = 0;
  std::int64_t open_ = 0;  // slots not marked done
};

class SharedFile {
 public:
  SharedFile() = default;
  ~SharedFile();
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;
  SharedFile(SharedFile&& o) noexcept;
  SharedFile& operator=(SharedFile&& o) noexcept;

  // Opens `path` (system form). An exclusive open always has write access
  // to the file, because the lock needs it.
  Err open(std::string_view path, Access access, Share share, Disposition disposition);
  // open(), tried up to `attempts` times `pauseMs` apart while another
  // program holds the file (sharing or lock violation); the last result.
  Err openRetrying(std::string_view path, Access access, Share share, Disposition disposition,
                   int attempts, int pauseMs);

  bool isOpen() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

  // Size of the open file (from fstat), or -1 on error.
  std::int64_t size() const;
  // Device and inode of the open file; false on error.
  bool identity(std::uint64_t& device, std::uint64_t& inode) const;

  // Reads the whole file from its start into `out`.
  Err readAll(std::string& out);
  // Reads at most `limit` bytes from the file's start into `out`.
  Err readAll(std::string& out, std::size_t limit);

  // Reads up to `n` bytes at `offset` without moving the position; got < n
  // only at the end of the file.
  Err readAt(std::int64_t offset, char* buf, std::size_t n, std::size_t& got);

  // Reads up to `n` bytes at the current position; got == 0 at the end.
  Err read(char* buf, std::size_t n, std::size_t& got);

  // Moves the current position (for read/write) to `offset`.
  Err seek(std::int64_t offset);

  // Writes at the current position and moves it on.
  Err write(std::string_view data);

  // Writes at the end of the file as fstat sees it now (not O_APPEND, which
  // is unsafe on network file systems); the position moves to the new end.
  // The append is recorded: an intent record beside the file (file identity,
  // old end, length) is written before the data and removed after it, so
  // whoever next holds the file cuts an append whose writer died back to
  // its old end, and nothing else. A last line without a line end that no
  // record claims is data: it is ended with CR LF before the new lines,
  // never cut and never glued to them. A failed write is cut back at once.
  Err append(std::string_view data);
  // The same, but the intent record is renamed to `commitName` (a name in
  // the same folder, see ownTempName) instead of removed: that name then
  // stands for "this append is complete" to a journal that keeps it.
  Err append(std::string_view data, std::string_view commitName);

  // A recorded append in pieces: beginAppend ends an unclaimed last line,
  // writes the intent record for `length` bytes and puts the position at
  // the end; write() the pieces; finishAppend removes the record (or
  // renames it to `commitName`). abortAppend cuts the file back to where
  // the append began and removes the record.
  Err beginAppend(std::int64_t length, AppendBatch* batch = nullptr);
  Err finishAppend(std::string_view commitName = {});
  Err abortAppend();

  // Cuts or extends the file to `length` and puts the position there.
  Err resize(std::int64_t length);

  // Cuts the file to zero length and puts the position at the start.
  Err truncate();

  // Flushes the file's data to the disk.
  Err sync();

  // Renames the file this handle holds (exclusive only) to `newPath`,
  // failing with fileExists when the new name is taken by another file
  // (a rename cut between its two steps is finished). The handle stays
  // open on the renamed file. Used to claim a shared text under its lock.
  Err renameTo(std::string_view newPath);

  // Puts a new file holding `data` in place of the file this handle holds
  // (exclusive only): written beside it, then renamed over its name while
  // the lock is still held, so nobody can write to the old file in between
  // and readers see the old or the new file whole. The handle stays on the
  // old file, which has no name any more; close it afterwards.
  Err replaceHeld(std::string_view data, bool durable);

  // Deletes the file this handle holds (exclusive only) and closes it.
  Err removeAndClose();

  void close();

 private:
  Err endLastLine();

  int fd_ = -1;
  std::string path_;
  std::int64_t appendStart_ = -1;  // old end of a recorded append in progress
  AppendBatch* batch_ = nullptr;   // its batch, and its slot there
  std::int64_t slot_ = -1;
  bool recordLeft_ = false;  // a failed append of this handle left its record
};

// Test hook: the next SharedFile::append in this process writes only its
// first `bytes` bytes and fails (ioError) leaving its intent record and
// without cutting back, as a writer killed in mid-append leaves the file.
// Negative: off (the default).
void setAppendFault(long long bytes);

// Test hook: the next SharedFile::write in this process writes only its
// first `bytes` bytes and fails (ioError), as a full disk or a lost network
// drive fails a write; unlike setAppendFault the caller's clean-up runs.
// Negative: off (the default).
void setWriteFault(long long bytes);

// Test hook: SharedFile::read in this process fails (ioError) once, after
// `bytes` more bytes were read, as a lost network drive fails a read in
// the middle of a file. Negative: off (the default).
void setReadFault(long long bytes);

// Test hook: the next flush in this process (sync, the flush before an
// append's commit mark, a durable publish's new file, or syncFileSystem)
// fails with ioError.
void setSyncFault(bool on);

// Test hook: the next mark of a batch append as done (complete or cut
// back) fails with ioError, as a lost network drive fails that write.
void setBatchMarkFault(bool on);

// Test hook: the next SharedFile::renameTo of this process, once it has
// made the new name, cannot remove the old one (EACCES), as a share may
// refuse it.
void setRenameUnlinkFault(bool on);

// Test hook: `hook` runs once, when the next recorded append of this process
// is complete (its record removed, its slot closed or its mark set), so a
// test can end the process there as a kill right after the append would.
// Empty: off (the default).
void setAppendDone(std::function<void()> hook);

// Test hook: the next `times` lock calls in this process fail with the
// errno `error`, as the server of an SMB share answers them.
void setLockFault(int error, int times);

// Device and inode of the file at `path` (a link is not followed); false
// when there is none.
bool fileIdentity(std::string_view path, std::uint64_t& device, std::uint64_t& inode);

// Test hook: `pause` runs once, in the next open of this process, after the
// file is opened and before it is locked, so another program can claim the
// file in between. Empty: off (the default).
void setOpenPause(std::function<void()> pause);

// Deletes a file unless someone holds it open.
Err removeFile(std::string_view path);

// Renames a file unless someone holds it; with replace, an existing target
// is replaced (it must not be held either), else fileExists.
Err moveFile(std::string_view from, std::string_view to, bool replace);

// Renames a folder entry of any kind (a FIFO, a folder, a symbolic link
// itself) without opening it, to set aside what is no shared file. An
// existing target file is replaced.
Err renameEntry(std::string_view from, std::string_view to);

// Copies a file, read under deny-write, written whole and published.
// failIfExists: an existing target gives fileExists. An existing target
// that someone holds gives sharingViolation.
Err copyFile(std::string_view from, std::string_view to, bool failIfExists);

// Writes `data` under a temporary name in the target's folder and links it
// into place: the file appears complete or not at all. Fails with
// fileExists when the name is taken. durable: fsync before publishing.
Err publishNew(std::string_view path, std::string_view data, bool durable);

// Same, replacing an existing file by rename; an existing target that
// someone holds gives sharingViolation and is left as it is.
Err publishReplace(std::string_view path, std::string_view data, bool durable);

// Flushes every file written on the file system that holds `dir` to the
// disk (one flush for many files written in a row).
Err syncFileSystem(std::string_view dir);

// Whether syncFileSystem on `dir` puts the files written there on the disk:
// true on a local disk file system; false on a network (SMB/CIFS, NFS),
// FUSE or unknown one, where only a flush of each file (SharedFile::sync)
// reaches the server's disk.
bool syncFileSystemSuffices(std::string_view dir);

// True for names the OS layer uses for its own temporary files; folder
// listings leave them out.
bool isOwnTempName(std::string_view name);

// An own temporary name made of `stem` (letters, digits, "-"): a file of a
// program's own bookkeeping (a journal, a commit mark) that no pattern of
// the system matches and no listing shows.
std::string ownTempName(std::string_view stem);

// The own temporary names in folder `dir` whose stem starts with `prefix`,
// sorted (names only, system form).
Err listOwnTempNames(std::string_view dir, std::string_view prefix,
                     std::vector<std::string>& names);

// The one lock primitive: a non-blocking whole-file lock on a descriptor,
// exclusive (write) or shared (read). Open-file-description locks, with a
// flock fall-back (once per process) where the file system refuses them.
Err lockDescriptor(int fd, bool exclusive);

// Receives one-line diagnostics of the OS layer (the lock fall-back), so
// the caller can trace them in its own format. Empty: they are dropped.
void setDiagnosticSink(std::function<void(const std::string&)> sink);

enum class LockProbe { works, fails, cannotTell };

// Checks that a lock taken in folder `dir` excludes a second open. On a
// network file system whose locks may be host-local the answer is
// cannotTell even when the local check passed.
LockProbe probeLocking(std::string_view dir);

}  // namespace plat
