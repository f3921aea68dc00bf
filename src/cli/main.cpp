// kestrava-cli: list, count, decode and encode weld-record download files.
#include <cstdio>

int main(int argc, char** argv)
{
    (void)argc;
    (void)argv;
    std::fputs("kestrava-cli: not built yet\n", stderr);
    return 2;
}
