#include "common/fault_point.h"

namespace tavo {
namespace {
FaultPoint* gFaultPoint = nullptr;
}  // namespace

FaultPoint* installedFaultPoint() {
    return gFaultPoint;
}

void installFaultPoint(FaultPoint* point) {
    gFaultPoint = point;
}

}  // namespace tavo
