// plain_loader.cpp - loads the library named on its command line the way a program does that
// sets no search restriction, so that a planted copy beside it is found as Windows finds it.
//
// usage: plain_loader NAME.dll    exit code 0 if the library was loaded, 1 if not
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    return LoadLibraryA(argv[1]) != nullptr ? 0 : 1;
}
