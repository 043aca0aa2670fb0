#pragma once
// The instructions page shown in place of the picture with F1.

namespace gb {

const char* instructionsPage();

}  // namespace gb
