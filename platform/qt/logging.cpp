// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/logging.h"

Q_LOGGING_CATEGORY(lcGlimmerbox, "glimmerbox", QtWarningMsg)
