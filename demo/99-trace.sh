# Ends the trace viewer and shows what the programs traced.
kill -TERM "$VK_TRACE_PID" 2>/dev/null || true
wait "$VK_TRACE_PID" 2>/dev/null || true
lines=$(wc -l < "$DEMO/trace.log" 2>/dev/null || echo 0)
echo "The trace viewer received $lines trace lines; the last ones:"
tail -n 10 "$DEMO/trace.log" 2>/dev/null | iconv -f CP1252 -t UTF-8 | tr -d '\r' | sed 's/^/  /'
