#pragma once

// Integer helpers of the page-setup dialog.
namespace MiscMath {

int IfThen(bool flag, int a, int b);
int Min(int a, int b);
int Max(int a, int b);

} // namespace MiscMath
