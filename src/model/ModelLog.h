#pragma once

#include <QLoggingCategory>

// Trace lines of the remote file model: entries, listings and the directory tree.
Q_DECLARE_LOGGING_CATEGORY(lcModel)
