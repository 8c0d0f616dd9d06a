#include "ui_kit/printer_resolution.h"

#include <cups/cups.h>

#include <cmath>

namespace tavo {

int printerDefaultResolution(const std::string& name) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (!dest) return 0;
    int dpi = 0;
    if (cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        if (ipp_attribute_t* attr =
                cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "printer-resolution")) {
            int y = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int x = ippGetResolution(attr, 0, &y, &units);
            // Text lines are stepped down the page, so the vertical resolution is the one
            // that counts.
            const int value = y > 0 ? y : x;
            dpi = units == IPP_RES_PER_CM ? static_cast<int>(std::lround(value * 2.54)) : value;
        }
        cupsFreeDestInfo(info);
    }
    cupsFreeDests(1, dest);
    return dpi > 0 ? dpi : 0;
}

}  // namespace tavo
