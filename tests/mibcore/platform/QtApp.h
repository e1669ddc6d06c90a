#pragma once
// One QApplication for the whole test program (offscreen platform).

#include <QApplication>

#include "tests/support/QtTestApp.h"

namespace platformtest {

using harness::EnsureApp;

}  // namespace platformtest
