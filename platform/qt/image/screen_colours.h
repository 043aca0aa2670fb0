// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures are drawn as sRGB, what screens show when nothing manages their colours. A picture whose file embeds
// the colour profile of another space (Display P3 from phones, Adobe RGB from cameras) is converted to sRGB once,
// on the worker that decodes it, after any scaling (fewer pixels). Pictures without a profile, or with an sRGB
// one, are left as they are at no cost.

class QImage;

namespace gb::qt {

void toScreenColours(QImage& image);

}  // namespace gb::qt
