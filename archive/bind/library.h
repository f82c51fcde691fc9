// Run-time loading of the archiver plug-ins. A library named like "UNLHA32.DLL" is looked up as
// "lib" + lower-cased base name + ".so" in the plug-in folder: beside the executable, unless
// SetLibraryFolder (tests) names another. Loaded
// libraries stay loaded for the program's run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/libs/unlha32/unlha32.h"

namespace sorabu::archive {

// The entry record the find calls fill (the layout every plug-in shares).
using TIndividualInfo = UnlhaIndividualInfo;

using CommandFn = int (*)(void*, const char*, char*, std::uint32_t);
using CheckFn = int (*)(const char*, int);
using OpenFn = void* (*)(void*, const char*, std::uint32_t);
using CloseFn = int (*)(void*);
using FindFirstFn = int (*)(void*, const char*, TIndividualInfo*);
using FindNextFn = int (*)(void*, TIndividualInfo*);
using VersionFn = std::uint16_t (*)();
using ArchiveTypeFn = int (*)(const char*);
using SetOwnerFn = int (*)(void*, void*);
using KillOwnerFn = int (*)(void*);

// Empty restores the default (the executable's folder).
void SetLibraryFolder(const std::string& folder);
std::string LibraryFolder();
// "UNLHA32.DLL" -> "libunlha32.so".
std::string PluginFileName(std::string_view dll_name);

// Handle of a loaded library, or null when it cannot be loaded.
void* LoadLibrary(std::string_view dll_name);
// The entry point, or null.
void* LibraryEntry(void* library, const char* name);

}  // namespace sorabu::archive
