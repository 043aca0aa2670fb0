// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one logging category: enable with QT_LOGGING_RULES="glimmerbox.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcGlimmerbox)
