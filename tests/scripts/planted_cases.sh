# Shared by the checks' planted-case scripts (sourced): a scratch folder
# removed at the end, the count of failed cases, and the verdict on one case.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# verdict WHAT EXPECTED(pass|refuse) STATUS OUTPUT PATTERN: a case to pass
# must leave the check content; one to refuse must fail it with PATTERN.
verdict() {
    if [ "$2" = pass ] && [ "$3" -ne 0 ]; then
        echo "FAIL: $1 was refused: $4"; failures=$((failures + 1))
    elif [ "$2" = refuse ] && { [ "$3" -eq 0 ] || ! echo "$4" | grep -q "$5"; }; then
        echo "FAIL: $1 was not refused with \"$5\": $4"; failures=$((failures + 1))
    fi
}
