// The one include of the interpreter's headers (limited API, set by the build).
#pragma once

#define PY_SSIZE_T_CLEAN
#include <Python.h>
