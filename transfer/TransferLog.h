#pragma once

#include <QLoggingCategory>

// Diagnostics of the clip transfer (engine and receive thread).
Q_DECLARE_LOGGING_CATEGORY(lcTransfer)
