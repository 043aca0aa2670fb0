// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The instructions page shown in place of the picture with F1.

namespace gb {

const char* instructionsPage();

}  // namespace gb
