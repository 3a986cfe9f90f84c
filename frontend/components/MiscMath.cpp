#include "MiscMath.h"

namespace MiscMath {

int IfThen(bool flag, int a, int b) { return flag ? a : b; }
int Min(int a, int b) { return a < b ? a : b; }
int Max(int a, int b) { return a > b ? a : b; }

} // namespace MiscMath
