# Demo step (sourced by ./demo.sh with $DEMO and $VK_BIN): a recognizer
# world on the demo tree, the stand-in running headless, a word added as the
# user would add it, the vocabulary listed, and the recognizer ended.
dragon_master="$DEMO/dragon-users"
printf 'Befund\r\nM\xfcller\\Mueller\r\n' >"$DEMO/dragon-words.txt"
echo "Setting up speakers below $dragon_master:"
"$VK_BIN/natspeak" --setup "$dragon_master" \
  --speaker "Dr. Meier" --topic Allgemein --words "$DEMO/dragon-words.txt" \
  --topic Chirurgie --folder chir \
  --speaker Schmidt --topic Allgemein
echo "  nsuser.ini: $(tr -d '\r' <"$XDG_CONFIG_HOME/nuance/naturallyspeaking10/nsuser.ini" | grep Roaming)"
echo "  topics of Dr. Meier: $(tr -d '\r' <"$dragon_master/Dr. Meier/current/topics.ini" | tail -n +2 | paste -sd ' ')"

echo "Starting natspeak --headless for Dr. Meier / Allgemein"
"$VK_BIN/natspeak" --headless --speaker "Dr. Meier" --topic Allgemein &
dragon_pid=$!
for _ in $(seq 1 100); do
  "$VK_BIN/natspeak" --ctl state >/dev/null 2>&1 && break
  sleep 0.1
done
echo "State:"
"$VK_BIN/natspeak" --ctl state | sed 's/^/  /'
echo "The user adds \"Ösophagus\" (spoken \"Speiseröhre\") in the recognizer:"
"$VK_BIN/natspeak" --ctl add-word "Ösophagus" "Speiseröhre" >/dev/null
"$VK_BIN/natspeak" --ctl state | grep -E '^(user-words|must-save)=' | sed 's/^/  /'
echo "The user's own words now:"
"$VK_BIN/natspeak" --ctl words user | sed 's/^/  /'
echo "Ending the recognizer (it saves the changed vocabulary):"
"$VK_BIN/natspeak" --ctl quit >/dev/null
wait "$dragon_pid"
echo "  natspeak ended; user.voc holds:"
iconv -f cp1252 -t utf-8 "$dragon_master/Dr. Meier/current/Allgemein/user.voc" | tr -d '\r' | sed 's/^/    /'
unset dragon_master dragon_pid
