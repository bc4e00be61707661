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
#include "tarvo/imageio/img_io_bmp.h"
#include "tarvo/imageio/img_io_pxm.h"
#include "tarvo/imageio/img_io_ras.h"
#include "tarvo/interface/vs_manager.h"
#include "tarvo/sequence/vs_file_srs.h"
#include "tarvo/sequence/vs_file_txt.h"
#include "tarvo/source/registry.h"
#include "tarvo/video/avi_file_interface.h"
#include "tarvo/video/vs_file_avi.h"

// 1. The handle table.
VSManager vsManager;

namespace {

// 2. Still-image loaders, by lower-cased extension.
util::RegistryCreator<img_io_load, img_io_load_bmp> creatorBmp;
util::RegistryCreator<img_io_load, img_io_load_ppm> creatorPpm;
util::RegistryCreator<img_io_load, img_io_load_pgm> creatorPgm;
util::RegistryCreator<img_io_load, img_io_load_ras> creatorRas;

// 3. The AVI file interface.
avi_file_interface aviFileInterface;

// 4. File sources, by exact extension.
util::RegistryCreator<vs_file, vs_file_avi> creatorAvi;
util::RegistryCreator<vs_file, vs_file_srs> creatorSrs;
util::RegistryCreator<vs_file, vs_file_txt> creatorTxt;

} // namespace
