# Starts the trace viewer first, so every program of the demo finds it at
# its start and its trace lines land in $DEMO/trace.log.
"$VK_BIN/vktrace" -q -o "$DEMO/trace.log" 2>/dev/null &
VK_TRACE_PID=$!
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/QMTtracer_TRACEWIN" ] && break
  sleep 0.05
done
echo "Trace viewer vktrace runs (pid $VK_TRACE_PID), logging to $DEMO/trace.log"
