// Starts the AVI file interface for the library's lifetime: one static
// object (in tarvo/load_order.cpp) is built before any AVI source can be,
// and destroyed after the last one.
#pragma once

class avi_file_interface {
public:
    avi_file_interface();   // AVIFileInit
    ~avi_file_interface();  // AVIFileExit
    avi_file_interface(const avi_file_interface&) = delete;
    avi_file_interface& operator=(const avi_file_interface&) = delete;
};
