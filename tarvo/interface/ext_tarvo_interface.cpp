#include "tarvo/interface/ext_tarvo_interface.h"

#include <iostream>
#include <sstream>

int ext_tarvo_interface(const std::string& message)
{
    std::ostringstream report;
    report << "ext_tarvo_interface: caught exception in library object:\n" << message << "\n\n";
    std::cerr << report.str();
    return 1;
}
