#include "suspend/form2.h"

namespace gb {

Form2::Form2() {
    ListSI.accessibleName = "Current Images";
    ListNO.accessibleName = "Suspended Images";
    for (platform::Control* c : std::initializer_list<platform::Control*>{&ListSI, &ListNO, &TotSI, &TotNO})
        c->attach(&window);
}

}  // namespace gb
