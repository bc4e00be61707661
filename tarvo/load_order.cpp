// Every static object of the library, in the order they must come into being.
//
// C++ orders the construction of statics within one file, never across
// files, so they all live here. They are built at load from top to bottom
// and destroyed at unload from bottom to top:
//   1. the handle table, so that it outlives everything it may still hold;
//   2. the still-image loaders;
//   3. the AVI file interface, started before any AVI source can exist;
//   4. the file sources;
//   5. the live sources.
// The creator registry is a function-local static built by the first
// creator that registers, so it goes after that creator and before the
// handle table.
#include "tarvo/interface/vs_manager.h"
#include "tarvo/sequence/vs_file_txt.h"
#include "tarvo/source/registry.h"

// 1. The handle table.
VSManager vsManager;

namespace {

// 2. Still-image loaders, by lower-cased extension.

// 4. File sources, by exact extension.
util::RegistryCreator<vs_file, vs_file_txt> creatorTxt;

} // namespace
