#!/bin/sh
# The test name check on planted suites: each case is two test files, each
# with one line of code, and whether the check must refuse them.
set -u
check="$(dirname "$0")/../../scripts/check-test-names.sh"
. "$(dirname "$0")/planted_cases.sh"

# case FILE-A LINE-A FILE-B LINE-B EXPECTED(pass|refuse)
case_of() {
    rm -rf "$work/tests"
    for suite in one two; do
        mkdir -p "$work/tests/$suite/deep"
        echo "halvaro_test_suite(tests_$suite DEPS halvaro_foundation)" >"$work/tests/$suite/CMakeLists.txt"
    done
    printf 'namespace {\n%s\n}  // namespace\n' "$2" >"$work/tests/$1"
    printf '#include <x>\n\n%s\nTEST(A, B) {\n    struct Local {};\n}\n' "$4" >>"$work/tests/$3"
    out=$(sh "$check" "$work" 2>&1)
    verdict "\"$2\" beside \"$4\"" "$5" $? "$out" "tests/$1 and tests/$3 both define"
}

case_of one/a.cpp 'struct Case {};' one/deep/b.cpp 'struct Case {};' refuse
case_of one/a.cpp 'class Holder : public Listener {};' one/b.cpp 'class Holder final {};' refuse
case_of one/a.cpp 'int At(int col) { return col; }' one/b.cpp 'Piece At(int col, int row) {}' refuse
case_of one/a.cpp 'constexpr int kSize = 4;' one/b.cpp 'const std::vector<int> kSize{1, 2};' refuse
case_of one/a.cpp 'struct Case {};' two/b.cpp 'struct Case {};' pass
case_of one/a.cpp 'struct Local {};' one/b.cpp 'struct Case; // struct Local {};' pass
case_of one/a.cpp "namespace x {
struct Case {};
}" one/b.cpp "namespace y {
struct Case {};
}" pass
case_of one/a.cpp 'void PrintTo(const A& a, std::ostream* os) {}' one/b.cpp 'void PrintTo(const B& b, std::ostream* os) {}' pass

[ $failures -eq 0 ] && echo "test name check cases: all passed"
exit $failures
