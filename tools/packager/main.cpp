// pack-setup: turns a manifest and a folder of files into a setup executable.
#include <cstdio>

int main() {
    std::fputs("pack-setup: not built yet\n", stderr);
    return 2;
}
