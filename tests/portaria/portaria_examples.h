// The Tax Authority's four examples of the invoice QR code, which meet the rule.
#pragma once

#include <array>
#include <string_view>

namespace qrticket::testing {

inline constexpr std::string_view kInvoiceThreeRegions =
    "A:123456789*B:999999990*C:PT*D:FT*E:N*F:20191231*G:FT AB2019/0035*H:CSDF7T5H-0035*I1:PT*"
    "I2:12000.00*I3:15000.00*I4:900.00*I5:50000.00*I6:6500.00*I7:80000.00*I8:18400.00*J1:PT-AC*"
    "J2:10000.00*J3:25000.56*J4:1000.02*J5:75000.00*J6:6750.00*J7:100000.00*J8:18000.00*K1:PT-MA*"
    "K2:5000.00*K3:12500.00*K4:625.00*K5:25000.00*K6:3000.00*K7:40000.00*K8:8800.00*L:100.00*"
    "M:25.00*N:64000.02*O:513600.58*P:100.00*Q:kLp0*R:9999*S:TB;PT00000000000000000000000;"
    "513500.58";
inline constexpr std::string_view kSimplifiedInvoice =
    "A:123456789*B:999999990*C:PT*D:FS*E:N*F:20190812*G:FS CDVF/12345*H:CDF7T5HD-12345*I1:PT*"
    "I7:0.65*I8:0.15*N:0.15*O:0.80*Q:YhGV*R:9999*S:NU;0.80";
inline constexpr std::string_view kProForma =
    "A:500000000*B:123456789*C:PT*D:PF*E:N*F:20190123*G:PF G2019CB/145789*H:HB6FT7RV-145789*"
    "I1:PT*I2:12345.34*I3:12532.65*I4:751.96*I5:52789.00*I6:6862.57*I7:32425.69*I8:7457.91*"
    "N:15072.44*O:125165.12*Q:r/fY*R:9999";
inline constexpr std::string_view kTransportDocument =
    "A:500000000*B:123456789*C:PT*D:GT*E:N*F:20190720*G:GT G234CB/50987*H:GTVX4Y8B-50987*I1:0*"
    "N:0.00*O:0.00*Q:5uIg*R:9999";

inline constexpr std::array<std::string_view, 4> kAuthorityExamples{
    kInvoiceThreeRegions, kSimplifiedInvoice, kProForma, kTransportDocument};

}  // namespace qrticket::testing
