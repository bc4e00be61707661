#include "tarvo/video/avi_file_interface.h"

#include "platform/vfw.h"

avi_file_interface::avi_file_interface() { AVIFileInit(); }
avi_file_interface::~avi_file_interface() { AVIFileExit(); }
