# Helpers for the statistics tests, on top of lib.sh.

# Totals of all Stat rows as "keys clicks travel active rest" (a staged program
# starts with an empty Stat table, so all rows are this run's).
stat_totals() {
  sqlite3 -cmd ".timeout 3000" "$1" \
    "select coalesce(sum(Ckey),0)||' '||coalesce(sum(CMouse),0)||' '||
            printf('%.3f', coalesce(sum(MoveMouse),0))||' '||coalesce(sum(ActiveTime),0)||' '||
            coalesce(sum(RestTime),0) from Stat"
}

# The write-ahead log's change time: it moves with every save the program makes.
wal_stamp() { stat -c %y "$1-wal" 2>/dev/null || echo none; }

# Waits up to $2 seconds for the next save into database $1 (the log changes).
wait_save() {
  local db=$1 limit=${2:-12} before i
  before=$(wal_stamp "$db")
  for i in $(seq $((limit * 50))); do
    [[ "$(wal_stamp "$db")" != "$before" ]] && return 0
    sleep 0.02
  done
  return 1
}

# Waits up to $2 seconds for the program's first save (the day's row appears).
wait_first_save() {
  local db=$1 limit=${2:-15} i
  for i in $(seq $((limit * 10))); do
    [[ "$(sqlite3 -cmd ".timeout 3000" "$db" "select count(*) from Stat" 2>/dev/null)" -gt 0 ]] && return 0
    sleep 0.1
  done
  return 1
}
