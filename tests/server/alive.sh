# Sourced by the server scripts.
# alive PID: status 0 while process PID runs (one that has ended but is not
# yet reaped counts as ended).
alive() {
    local line rest
    read -r line <"/proc/$1/stat" 2>/dev/null || return 1
    rest=${line##*) }
    [[ ${rest%% *} != [ZX] ]]
}
