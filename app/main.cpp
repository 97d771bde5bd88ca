#include <cstdio>

int main() {
    std::puts("Vistrela Viewer v2.0");
    return 0;
}
