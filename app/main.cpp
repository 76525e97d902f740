// Program entry. The application shell replaces this with the start modes.
#include <cstdio>

int main() {
    std::puts("marvenlot: the client is not assembled yet; run scripts/test.sh for the tests.");
    return 0;
}
