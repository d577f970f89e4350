#!/bin/sh
# Refuses two files of one test suite that define the same name at file scope
# (in an anonymous or the same named namespace): a class, struct, union or
# enum, a free function or a variable. Each suite (a folder under tests/ whose
# CMakeLists.txt calls halvaro_test_suite, its subfolders included) compiles
# its files eight to a unity batch, so two such files compile as one whenever
# they share a batch: alike, the names clash; overloaded, a call may pick the
# other file's. Adding a file shifts the batches, so every pair counts.
# Usage: scripts/check-test-names.sh [top folder]   Exit status 1 lists every clash.
set -eu
cd "${1:-$(dirname "$0")/..}"

grep -l 'halvaro_test_suite(' $(find tests -name CMakeLists.txt | LC_ALL=C sort) 2>/dev/null |
while read -r cmake; do
    suite=$(dirname "$cmake")
    find "$suite" -name '*.cpp' | LC_ALL=C sort | sed "s|^|$suite |"
done |
awk '
# A line without its comments, strings and characters (their braces and
# parentheses are no code).
function code_of(line) {
    if (in_comment) {
        if (!sub(/^.*\*\//, "", line)) return ""
        in_comment = 0
    }
    gsub(/"([^"\\]|\\.)*"/, "\"\"", line)
    gsub(/\047([^\047\\]|\\.)*\047/, "0", line)
    gsub(/\/\*.*\*\//, " ", line)
    sub(/\/\/.*$/, "", line)
    if (sub(/\/\*.*$/, "", line)) in_comment = 1
    return line
}
function last_word(text) {
    sub(/[ \t]*(\[[^]]*\][ \t]*)*$/, "", text)
    sub(/^.*[^A-Za-z0-9_]/, "", text)
    return text
}
# The name a line defines at namespace scope, or "".
function defined_name(line, head) {
    if (line ~ /^[ \t]*#/ || line ~ /^[ \t]*(using|namespace|friend|typedef|return)[ \t]/) return ""
    if (line ~ /^[ \t]*(template[ \t]*<.*>[ \t]*)?(class|struct|union|enum( class| struct)?)[ \t]+[A-Za-z_]/) {
        if (line ~ /;[ \t]*$/ && line !~ /[{=]/) return ""          # a declaration only
        head = line
        sub(/^[ \t]*(template[ \t]*<.*>[ \t]*)?(class|struct|union|enum( class| struct)?)[ \t]+/, "", head)
        sub(/[^A-Za-z0-9_].*$/, "", head)
        return head == "final" ? "" : head
    }
    if (index(line, "(") && (!index(line, "=") || index(line, "(") < index(line, "="))) {   # a function
        head = substr(line, 1, index(line, "(") - 1)
        if (line ~ /\)[ \t]*(const[ \t]*)?;[ \t]*$/) return ""       # a declaration only
        if (head !~ /^[ \t]*[A-Za-z_][A-Za-z0-9_:<>,*& \t]*[ \t*&][A-Za-z_][A-Za-z0-9_]*[ \t]*$/) return ""
        if (head ~ /operator[^A-Za-z0-9_]*$/ || head ~ /::[ \t]*[A-Za-z_][A-Za-z0-9_]*[ \t]*$/) return ""
        # GoogleTest finds PrintTo by its argument: overloads are its way.
        return last_word(head) == "PrintTo" ? "" : last_word(head)
    }
    head = line                                                       # a variable
    sub(/[={;].*$/, "", head)
    if (head !~ /^[ \t]*[A-Za-z_][A-Za-z0-9_:<>,*& \t]*[ \t*&][A-Za-z_][A-Za-z0-9_]*[ \t]*(\[[^]]*\][ \t]*)*$/) return ""
    if (line !~ /[={;]/ || head ~ /^[ \t]*extern[ \t]/) return ""
    return last_word(head)
}
{
    suite = $1; file = $2
    depth = 0; parens = 0; in_comment = 0
    while ((getline raw < file) > 0) {
        line = code_of(raw)
        if (parens == 0 && depth == 0) {
            name = defined_name(line)
            if (name != "") {
                key = suite SUBSEP scope SUBSEP name
                if (!(key in first)) first[key] = file
                else if (first[key] != file && !((key, file) in told)) {
                    told[key, file] = 1
                    shown = scope == "" ? name : scope "::" name
                    printf "%s and %s both define %s at file scope: one test suite, so a unity batch may compile them as one\n", first[key], file, shown
                    bad = 1
                }
            }
        }
        # Braces: a namespace opens a scope whose names count; any other
        # brace a body whose names do not.
        opens = gsub(/\{/, "{", line); closes = gsub(/\}/, "}", line)
        parens += gsub(/\(/, "(", line) - gsub(/\)/, ")", line)
        if (parens < 0) parens = 0
        if (opens > 0 && depth == 0 && line ~ /^[ \t]*(inline[ \t]+)?namespace([ \t]+[A-Za-z_:]+)?[ \t]*\{/) {
            ns = line; sub(/^[ \t]*(inline[ \t]+)?namespace[ \t]*/, "", ns); sub(/[ \t]*\{.*$/, "", ns)
            stack[++levels] = ns; scope = scope_of()
            opens--
        } else if (opens > 0 && depth == 0 && line ~ /^[ \t]*extern[ \t]+""[ \t]*\{/) {
            stack[++levels] = ""; opens--                             # extern "C" { ... }
        }
        depth += opens
        while (closes > 0) {
            if (depth > 0) depth--
            else if (levels > 0) { levels--; scope = scope_of() }
            closes--
        }
    }
    close(file)
    levels = 0; scope = ""
}
function scope_of(  i, s) {
    s = ""
    for (i = 1; i <= levels; i++) if (stack[i] != "") s = s == "" ? stack[i] : s "::" stack[i]
    return s
}
END {
    if (bad) { print "test name check: refused (rename one of each pair above)"; exit 1 }
    print "test name check: no two files of one test suite define the same name at file scope"
}'
