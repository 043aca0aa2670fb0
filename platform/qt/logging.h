#pragma once
// The program's one logging category: enable with QT_LOGGING_RULES="glimmerbox.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcGlimmerbox)
