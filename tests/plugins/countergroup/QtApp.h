#pragma once
// One QApplication for the whole test program (offscreen platform).

#include <QApplication>

#include "tests/support/QtTestApp.h"

namespace cgtest {

using harness::EnsureApp;

}  // namespace cgtest
