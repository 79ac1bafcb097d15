// The library that makes the precompiled <windows.h> the Win32 targets share (CMakeLists.txt).
