#include "GroupResponseH.h"

namespace kd {

void GROUP_MATRIX(CMat g, CVec w, int n, CMat alpha, CVec v)
{
    for (int i = 1; i <= n; ++i) {
        w(i) = Cx{};
        for (int j = 1; j <= n; ++j)
            g(i, j) = Cx{};
    }
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            if (i == j) {
                g(i, i) = g(i, i) + Cx{1.0, 0.0};
            } else {
                g(i, j) = g(i, j) + alpha(i, j);
                w(i) = w(i) + v(j);
            }
        }
    }
}

GroupHeadResponse groupHeadResponse(CMatIn ginv, CVecIn u, int n)
{
    Cx s{};
    Cx t{};
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            s = s + ginv(i, j);
            t = t + ginv(i, j) * u(j);
        }
    }
    return {s, cdiv(t, s)};
}

SuperstructureResponse superstructureResponse(double k, double xi, double m0, double m1, double omega2, Cx kp,
                                              Cx up)
{
    const Cx kStar{k, k * 2.0 * xi};
    const Cx r = cdiv(kp, kStar);
    const Cx a = (Cx{1.0, 0.0} + r) - cdiv(Cx{omega2 * m0, 0.0}, kStar);
    const Cx b = cdiv(Cx{omega2 * m1, 0.0}, kStar);
    const Cx d = (Cx{1.0, 0.0} - b) * a - Cx{1.0, 0.0};
    SuperstructureResponse out;
    out.ust = cdiv(r * up, d);
    out.u0 = cdiv(up * ((kStar - Cx{omega2 * m1, 0.0}) * cdiv(r, kStar)), d);
    return out;
}

} // namespace kd
