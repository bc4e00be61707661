// Creation arguments, one record per registry base.
#pragma once

class img_fmt;

struct vs_file_args {
    const char* name;  // the source name, borrowed for the call
};

struct img_io_load_args {};

// Capture settings read by the live sources.
struct vs_grab_args {
    const img_fmt* imageFormat;  // wanted picture format
    int driverIndex;             // capture driver number
    bool showWindow;             // show the capture window
};
