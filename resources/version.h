// The program's version and maker: one home for the version block
// (velbrook.rc) and the packages (scripts/package reads the quoted values).
// The manifest's assembly version repeats VELBROOK_VERSION_DOTTED.
#pragma once

#define VELBROOK_VERSION_TEXT "1.0f"
// 1.0f is the sixth release of 1.0 (a to f).
#define VELBROOK_VERSION_NUMBERS 1, 0, 6, 0
#define VELBROOK_VERSION_DOTTED "1.0.6.0"
#define VELBROOK_PRODUCT_NAME "Velbrook v1.0f"
#define VELBROOK_MAKER "Orvel"
#define VELBROOK_COPYRIGHT "Copyright (C) 2007 Orvel.  All rights reserved."
