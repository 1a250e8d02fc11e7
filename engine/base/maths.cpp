// Sine and cosine in degrees, the same to the last bit on every target: a
// replay recorded on one machine must replay to the same game on another, and
// the C libraries' sin and cos differ in the last bit for some angles.
//
// Whole degrees (every angle the games' rules use) come from a table; other
// angles are folded to [0, 45] degrees with exact steps and evaluated by
// polynomials in plain double arithmetic, which IEEE 754 rounds alike
// everywhere (the build keeps the compiler from fusing its multiplies and adds).
#include "base/maths.h"

#include <cmath>
#include <numbers>

namespace plat {

namespace {

// The values the desktop build has always had for whole degrees (exact at the
// quarter turns and the common halves, so that movement along the axes stays
// on whole pixels); written out so that no target recomputes them.
constexpr double kSinWhole[360] = {
    0x0p+0, 0x1.1df0b2b89dd1ep-6, 0x1.1de58c9f7dc27p-5, 0x1.acbc748efc90ep-5,
    0x1.1db8f6d6a5128p-4, 0x1.64fd6b8c28102p-4, 0x1.ac2609b3c576cp-4, 0x1.f32d44c4f62d3p-4,
    0x1.1d06c968d9e19p-3, 0x1.4060b67a85375p-3, 0x1.63a1a7e0b7389p-3, 0x1.86c6ddd76624fp-3,
    0x1.a9cd9ac4258f6p-3, 0x1.ccb3236cdc675p-3, 0x1.ef74bf2e4b91dp-3, 0x1.0907dc193069p-2,
    0x1.1a40add328e29p-2, 0x1.2b637cf83d5c8p-2, 0x1.3c6ef372fe94fp-2, 0x1.4d61bd000cddcp-2,
    0x1.5e3a8748a0bf5p-2, 0x1.6ef801fced33cp-2, 0x1.7f98deee59681p-2, 0x1.901bd2298ffabp-2,
    0x1.a07f921061ad1p-2, 0x1.b0c2d77379853p-2, 0x1.c0e45dabe05c8p-2, 0x1.d0e2e2b44dep-2,
    0x1.e0bd274245079p-2, 0x1.f071eedefa0edp-2, 0x1p-1, 0x1.07b3120fddf13p-1,
    0x1.0f5193eacdd2ap-1, 0x1.16daed770771dp-1, 0x1.1e4e88411fd13p-1, 0x1.25abcf87c4978p-1,
    0x1.2cf2304755a5ep-1, 0x1.342119455beb6p-1, 0x1.3b37fb1bdc939p-1, 0x1.4236484487abdp-1,
    0x1.491b7523c161cp-1, 0x1.4fe6f81384fd4p-1, 0x1.5698496e20bd8p-1, 0x1.5d2ee398c9c2bp-1,
    0x1.63aa430e0731p-1, 0x1.6a09e667f3bccp-1, 0x1.704d4e6a54d38p-1, 0x1.7673fe0c86982p-1,
    0x1.7c7d7a833bec2p-1, 0x1.82694b4a11c37p-1, 0x1.8836fa2cf5039p-1, 0x1.8de613515a328p-1,
    0x1.9376253f463d2p-1, 0x1.98e6c0ea27a14p-1, 0x1.9e3779b97f4a8p-1, 0x1.a367e59158747p-1,
    0x1.a8779cda8eea5p-1, 0x1.ad663a8ae2fdcp-1, 0x1.b2335c2cda945p-1, 0x1.b6dea1e76eadep-1,
    0x1.bb67ae8584caap-1, 0x1.bfce277d339c6p-1, 0x1.c411b4f6d2707p-1, 0x1.c83201d3d2c6cp-1,
    0x1.cc2ebbb5638cap-1, 0x1.d0079302dd767p-1, 0x1.d3bc3aeff7f95p-1, 0x1.d74c6982c666fp-1,
    0x1.dab7d7997cb58p-1, 0x1.ddfe40effb805p-1, 0x1.e11f642522d1bp-1, 0x1.e41b02bfeb4cap-1,
    0x1.e6f0e134454ffp-1, 0x1.e9a0c6e7bdb1fp-1, 0x1.ec2a7e35e7b8p-1, 0x1.ee8dd4748bf15p-1,
    0x1.f0ca99f79ba25p-1, 0x1.f2e0a214e870fp-1, 0x1.f4cfc327a007fp-1, 0x1.f697d6938b6c2p-1,
    0x1.f838b8c811c17p-1, 0x1.f9b24942fe45cp-1, 0x1.fb046a930947ap-1, 0x1.fc2f025a23e8bp-1,
    0x1.fd31f94f867c6p-1, 0x1.fe0d3b41815a2p-1, 0x1.fec0b7170fff6p-1, 0x1.ff4c5ed12e61dp-1,
    0x1.ffb0278bf0567p-1, 0x1.ffec097f5af8ap-1, 0x1p+0, 0x1.ffec097f5af8ap-1,
    0x1.ffb0278bf0567p-1, 0x1.ff4c5ed12e61dp-1, 0x1.fec0b7170fff6p-1, 0x1.fe0d3b41815a2p-1,
    0x1.fd31f94f867c6p-1, 0x1.fc2f025a23e8cp-1, 0x1.fb046a930947ap-1, 0x1.f9b24942fe45cp-1,
    0x1.f838b8c811c17p-1, 0x1.f697d6938b6c2p-1, 0x1.f4cfc327a008p-1, 0x1.f2e0a214e870fp-1,
    0x1.f0ca99f79ba25p-1, 0x1.ee8dd4748bf15p-1, 0x1.ec2a7e35e7b8p-1, 0x1.e9a0c6e7bdb2p-1,
    0x1.e6f0e134455p-1, 0x1.e41b02bfeb4cbp-1, 0x1.e11f642522d1cp-1, 0x1.ddfe40effb805p-1,
    0x1.dab7d7997cb58p-1, 0x1.d74c6982c666ep-1, 0x1.d3bc3aeff7f95p-1, 0x1.d0079302dd768p-1,
    0x1.cc2ebbb5638c9p-1, 0x1.c83201d3d2c6dp-1, 0x1.c411b4f6d2707p-1, 0x1.bfce277d339c7p-1,
    0x1.bb67ae8584cabp-1, 0x1.b6dea1e76eadep-1, 0x1.b2335c2cda946p-1, 0x1.ad663a8ae2fdbp-1,
    0x1.a8779cda8eea5p-1, 0x1.a367e59158746p-1, 0x1.9e3779b97f4a8p-1, 0x1.98e6c0ea27a13p-1,
    0x1.9376253f463d2p-1, 0x1.8de613515a329p-1, 0x1.8836fa2cf5039p-1, 0x1.82694b4a11c38p-1,
    0x1.7c7d7a833bec2p-1, 0x1.7673fe0c86983p-1, 0x1.704d4e6a54d38p-1, 0x1.6a09e667f3bcdp-1,
    0x1.63aa430e0730fp-1, 0x1.5d2ee398c9c2cp-1, 0x1.5698496e20bd9p-1, 0x1.4fe6f81384fd4p-1,
    0x1.491b7523c161ep-1, 0x1.4236484487abdp-1, 0x1.3b37fb1bdc93ap-1, 0x1.342119455beb5p-1,
    0x1.2cf2304755a5fp-1, 0x1.25abcf87c4977p-1, 0x1.1e4e88411fd13p-1, 0x1.16daed770771fp-1,
    0x1.0f5193eacdd2ap-1, 0x1.07b3120fddf15p-1, 0x1p-1, 0x1.f071eedefa0efp-2,
    0x1.e0bd274245077p-2, 0x1.d0e2e2b44de02p-2, 0x1.c0e45dabe05c6p-2, 0x1.b0c2d77379854p-2,
    0x1.a07f921061ad5p-2, 0x1.901bd2298ffabp-2, 0x1.7f98deee59685p-2, 0x1.6ef801fced33bp-2,
    0x1.5e3a8748a0bf8p-2, 0x1.4d61bd000cddap-2, 0x1.3c6ef372fe951p-2, 0x1.2b637cf83d5c5p-2,
    0x1.1a40add328e2ap-2, 0x1.0907dc1930695p-2, 0x1.ef74bf2e4b91dp-3, 0x1.ccb3236cdc67cp-3,
    0x1.a9cd9ac4258f5p-3, 0x1.86c6ddd766255p-3, 0x1.63a1a7e0b7387p-3, 0x1.4060b67a85379p-3,
    0x1.1d06c968d9e15p-3, 0x1.f32d44c4f62d8p-4, 0x1.ac2609b3c577fp-4, 0x1.64fd6b8c28104p-4,
    0x1.1db8f6d6a5138p-4, 0x1.acbc748efc90ap-5, 0x1.1de58c9f7dc4p-5, 0x1.1df0b2b89dd09p-6,
    0x0p+0, -0x1.1df0b2b89dd42p-6, -0x1.1de58c9f7dc1dp-5, -0x1.acbc748efc8e7p-5,
    -0x1.1db8f6d6a5126p-4, -0x1.64fd6b8c280f2p-4, -0x1.ac2609b3c576ep-4, -0x1.f32d44c4f62c7p-4,
    -0x1.1d06c968d9e1cp-3, -0x1.4060b67a8537p-3, -0x1.63a1a7e0b738ep-3, -0x1.86c6ddd76624cp-3,
    -0x1.a9cd9ac4258fcp-3, -0x1.ccb3236cdc674p-3, -0x1.ef74bf2e4b915p-3, -0x1.0907dc1930691p-2,
    -0x1.1a40add328e26p-2, -0x1.2b637cf83d5c8p-2, -0x1.3c6ef372fe94dp-2, -0x1.4d61bd000cdddp-2,
    -0x1.5e3a8748a0bf4p-2, -0x1.6ef801fced33fp-2, -0x1.7f98deee59681p-2, -0x1.901bd2298ffa7p-2,
    -0x1.a07f921061ad1p-2, -0x1.b0c2d7737985p-2, -0x1.c0e45dabe05c9p-2, -0x1.d0e2e2b44ddffp-2,
    -0x1.e0bd27424507ap-2, -0x1.f071eedefa0ebp-2, -0x1p-1, -0x1.07b3120fddf13p-1,
    -0x1.0f5193eacdd29p-1, -0x1.16daed770771dp-1, -0x1.1e4e88411fd11p-1, -0x1.25abcf87c4979p-1,
    -0x1.2cf2304755a5dp-1, -0x1.342119455beb7p-1, -0x1.3b37fb1bdc938p-1, -0x1.4236484487abfp-1,
    -0x1.491b7523c161cp-1, -0x1.4fe6f81384fd2p-1, -0x1.5698496e20bd8p-1, -0x1.5d2ee398c9c2ap-1,
    -0x1.63aa430e07311p-1, -0x1.6a09e667f3bccp-1, -0x1.704d4e6a54d39p-1, -0x1.7673fe0c86982p-1,
    -0x1.7c7d7a833bec3p-1, -0x1.82694b4a11c37p-1, -0x1.8836fa2cf5038p-1, -0x1.8de613515a325p-1,
    -0x1.9376253f463d3p-1, -0x1.98e6c0ea27a14p-1, -0x1.9e3779b97f4a7p-1, -0x1.a367e59158745p-1,
    -0x1.a8779cda8eea6p-1, -0x1.ad663a8ae2fdcp-1, -0x1.b2335c2cda945p-1, -0x1.b6dea1e76eadcp-1,
    -0x1.bb67ae8584ca8p-1, -0x1.bfce277d339c8p-1, -0x1.c411b4f6d2708p-1, -0x1.c83201d3d2c6cp-1,
    -0x1.cc2ebbb5638c8p-1, -0x1.d0079302dd768p-1, -0x1.d3bc3aeff7f96p-1, -0x1.d74c6982c666ep-1,
    -0x1.dab7d7997cb57p-1, -0x1.ddfe40effb804p-1, -0x1.e11f642522d1cp-1, -0x1.e41b02bfeb4cbp-1,
    -0x1.e6f0e134454ffp-1, -0x1.e9a0c6e7bdb1ep-1, -0x1.ec2a7e35e7b81p-1, -0x1.ee8dd4748bf15p-1,
    -0x1.f0ca99f79ba25p-1, -0x1.f2e0a214e870ep-1, -0x1.f4cfc327a007fp-1, -0x1.f697d6938b6c2p-1,
    -0x1.f838b8c811c17p-1, -0x1.f9b24942fe45bp-1, -0x1.fb046a9309479p-1, -0x1.fc2f025a23e8cp-1,
    -0x1.fd31f94f867c7p-1, -0x1.fe0d3b41815a2p-1, -0x1.fec0b7170fff6p-1, -0x1.ff4c5ed12e61dp-1,
    -0x1.ffb0278bf0567p-1, -0x1.ffec097f5af8ap-1, -0x1p+0, -0x1.ffec097f5af8ap-1,
    -0x1.ffb0278bf0567p-1, -0x1.ff4c5ed12e61dp-1, -0x1.fec0b7170fff7p-1, -0x1.fe0d3b41815a2p-1,
    -0x1.fd31f94f867c7p-1, -0x1.fc2f025a23e8bp-1, -0x1.fb046a930947ap-1, -0x1.f9b24942fe45cp-1,
    -0x1.f838b8c811c18p-1, -0x1.f697d6938b6c1p-1, -0x1.f4cfc327a007fp-1, -0x1.f2e0a214e870fp-1,
    -0x1.f0ca99f79ba26p-1, -0x1.ee8dd4748bf16p-1, -0x1.ec2a7e35e7b7fp-1, -0x1.e9a0c6e7bdb1fp-1,
    -0x1.e6f0e134455p-1, -0x1.e41b02bfeb4ccp-1, -0x1.e11f642522d1bp-1, -0x1.ddfe40effb805p-1,
    -0x1.dab7d7997cb58p-1, -0x1.d74c6982c667p-1, -0x1.d3bc3aeff7f97p-1, -0x1.d0079302dd767p-1,
    -0x1.cc2ebbb5638cap-1, -0x1.c83201d3d2c6ep-1, -0x1.c411b4f6d2709p-1, -0x1.bfce277d339c5p-1,
    -0x1.bb67ae8584caap-1, -0x1.b6dea1e76eadep-1, -0x1.b2335c2cda947p-1, -0x1.ad663a8ae2fdep-1,
    -0x1.a8779cda8eea4p-1, -0x1.a367e59158747p-1, -0x1.9e3779b97f4a9p-1, -0x1.98e6c0ea27a16p-1,
    -0x1.9376253f463dp-1, -0x1.8de613515a327p-1, -0x1.8836fa2cf503ap-1, -0x1.82694b4a11c39p-1,
    -0x1.7c7d7a833bec5p-1, -0x1.7673fe0c86981p-1, -0x1.704d4e6a54d39p-1, -0x1.6a09e667f3bcep-1,
    -0x1.63aa430e07313p-1, -0x1.5d2ee398c9c29p-1, -0x1.5698496e20bd7p-1, -0x1.4fe6f81384fd5p-1,
    -0x1.491b7523c161fp-1, -0x1.4236484487ac1p-1, -0x1.3b37fb1bdc938p-1, -0x1.342119455beb6p-1,
    -0x1.2cf2304755a6p-1, -0x1.25abcf87c497cp-1, -0x1.1e4e88411fd1p-1, -0x1.16daed770771cp-1,
    -0x1.0f5193eacdd2bp-1, -0x1.07b3120fddf16p-1, -0x1p-1, -0x1.f071eedefa0eap-2,
    -0x1.e0bd274245079p-2, -0x1.d0e2e2b44de04p-2, -0x1.c0e45dabe05cfp-2, -0x1.b0c2d7737984fp-2,
    -0x1.a07f921061adp-2, -0x1.901bd2298ffadp-2, -0x1.7f98deee59687p-2, -0x1.6ef801fced345p-2,
    -0x1.5e3a8748a0bf3p-2, -0x1.4d61bd000cddcp-2, -0x1.3c6ef372fe953p-2, -0x1.2b637cf83d5cfp-2,
    -0x1.1a40add328e25p-2, -0x1.0907dc193068fp-2, -0x1.ef74bf2e4b922p-3, -0x1.ccb3236cdc681p-3,
    -0x1.a9cd9ac425909p-3, -0x1.86c6ddd76624ap-3, -0x1.63a1a7e0b738bp-3, -0x1.4060b67a8537ep-3,
    -0x1.1d06c968d9e29p-3, -0x1.f32d44c4f62c1p-4, -0x1.ac2609b3c5768p-4, -0x1.64fd6b8c2810dp-4,
    -0x1.1db8f6d6a514p-4, -0x1.acbc748efc95bp-5, -0x1.1de58c9f7dc12p-5, -0x1.1df0b2b89dd2cp-6};
constexpr double kCosWhole[360] = {
    0x1p+0, 0x1.ffec097f5af8ap-1, 0x1.ffb0278bf0567p-1, 0x1.ff4c5ed12e61dp-1,
    0x1.fec0b7170fff6p-1, 0x1.fe0d3b41815a2p-1, 0x1.fd31f94f867c6p-1, 0x1.fc2f025a23e8bp-1,
    0x1.fb046a930947ap-1, 0x1.f9b24942fe45cp-1, 0x1.f838b8c811c17p-1, 0x1.f697d6938b6c2p-1,
    0x1.f4cfc327a008p-1, 0x1.f2e0a214e870fp-1, 0x1.f0ca99f79ba25p-1, 0x1.ee8dd4748bf15p-1,
    0x1.ec2a7e35e7b8p-1, 0x1.e9a0c6e7bdb1fp-1, 0x1.e6f0e134454ffp-1, 0x1.e41b02bfeb4cbp-1,
    0x1.e11f642522d1cp-1, 0x1.ddfe40effb805p-1, 0x1.dab7d7997cb58p-1, 0x1.d74c6982c666fp-1,
    0x1.d3bc3aeff7f95p-1, 0x1.d0079302dd767p-1, 0x1.cc2ebbb5638cap-1, 0x1.c83201d3d2c6dp-1,
    0x1.c411b4f6d2708p-1, 0x1.bfce277d339c6p-1, 0x1.bb67ae8584cabp-1, 0x1.b6dea1e76eadep-1,
    0x1.b2335c2cda945p-1, 0x1.ad663a8ae2fdcp-1, 0x1.a8779cda8eea4p-1, 0x1.a367e59158747p-1,
    0x1.9e3779b97f4a8p-1, 0x1.98e6c0ea27a14p-1, 0x1.9376253f463d1p-1, 0x1.8de613515a328p-1,
    0x1.8836fa2cf5039p-1, 0x1.82694b4a11c37p-1, 0x1.7c7d7a833bec2p-1, 0x1.7673fe0c86982p-1,
    0x1.704d4e6a54d39p-1, 0x1.6a09e667f3bcdp-1, 0x1.63aa430e0731p-1, 0x1.5d2ee398c9c2bp-1,
    0x1.5698496e20bd8p-1, 0x1.4fe6f81384fd4p-1, 0x1.491b7523c161dp-1, 0x1.4236484487abep-1,
    0x1.3b37fb1bdc939p-1, 0x1.342119455beb7p-1, 0x1.2cf2304755a5ep-1, 0x1.25abcf87c4979p-1,
    0x1.1e4e88411fd12p-1, 0x1.16daed770771dp-1, 0x1.0f5193eacdd2ap-1, 0x1.07b3120fddf13p-1,
    0x1p-1, 0x1.f071eedefa0eep-2, 0x1.e0bd27424507ap-2, 0x1.d0e2e2b44de01p-2,
    0x1.c0e45dabe05c9p-2, 0x1.b0c2d77379853p-2, 0x1.a07f921061ad1p-2, 0x1.901bd2298ffaap-2,
    0x1.7f98deee5968p-2, 0x1.6ef801fced33ep-2, 0x1.5e3a8748a0bf7p-2, 0x1.4d61bd000cdddp-2,
    0x1.3c6ef372fe95p-2, 0x1.2b637cf83d5c8p-2, 0x1.1a40add328e29p-2, 0x1.0907dc193069p-2,
    0x1.ef74bf2e4b91bp-3, 0x1.ccb3236cdc672p-3, 0x1.a9cd9ac4258fap-3, 0x1.86c6ddd766253p-3,
    0x1.63a1a7e0b738cp-3, 0x1.4060b67a85377p-3, 0x1.1d06c968d9e1ap-3, 0x1.f32d44c4f62d4p-4,
    0x1.ac2609b3c576bp-4, 0x1.64fd6b8c281p-4, 0x1.1db8f6d6a5123p-4, 0x1.acbc748efc921p-5,
    0x1.1de58c9f7dc37p-5, 0x1.1df0b2b89dd37p-6, 0x0p+0, -0x1.1df0b2b89dd14p-6,
    -0x1.1de58c9f7dc25p-5, -0x1.acbc748efc90fp-5, -0x1.1db8f6d6a512ap-4, -0x1.64fd6b8c28107p-4,
    -0x1.ac2609b3c5772p-4, -0x1.f32d44c4f62cbp-4, -0x1.1d06c968d9e16p-3, -0x1.4060b67a85373p-3,
    -0x1.63a1a7e0b7388p-3, -0x1.86c6ddd76624fp-3, -0x1.a9cd9ac4258f6p-3, -0x1.ccb3236cdc676p-3,
    -0x1.ef74bf2e4b91fp-3, -0x1.0907dc1930692p-2, -0x1.1a40add328e27p-2, -0x1.2b637cf83d5c6p-2,
    -0x1.3c6ef372fe94ep-2, -0x1.4d61bd000cddbp-2, -0x1.5e3a8748a0bf5p-2, -0x1.6ef801fced33cp-2,
    -0x1.7f98deee59682p-2, -0x1.901bd2298ffabp-2, -0x1.a07f921061ad2p-2, -0x1.b0c2d77379851p-2,
    -0x1.c0e45dabe05cap-2, -0x1.d0e2e2b44ddffp-2, -0x1.e0bd27424507bp-2, -0x1.f071eedefa0ecp-2,
    -0x1p-1, -0x1.07b3120fddf14p-1, -0x1.0f5193eacdd29p-1, -0x1.16daed770771dp-1,
    -0x1.1e4e88411fd11p-1, -0x1.25abcf87c4979p-1, -0x1.2cf2304755a5dp-1, -0x1.342119455beb7p-1,
    -0x1.3b37fb1bdc939p-1, -0x1.4236484487abcp-1, -0x1.491b7523c161dp-1, -0x1.4fe6f81384fd3p-1,
    -0x1.5698496e20bd8p-1, -0x1.5d2ee398c9c2ap-1, -0x1.63aa430e07311p-1, -0x1.6a09e667f3bccp-1,
    -0x1.704d4e6a54d39p-1, -0x1.7673fe0c86982p-1, -0x1.7c7d7a833becp-1, -0x1.82694b4a11c37p-1,
    -0x1.8836fa2cf5038p-1, -0x1.8de613515a328p-1, -0x1.9376253f463d1p-1, -0x1.98e6c0ea27a15p-1,
    -0x1.9e3779b97f4a7p-1, -0x1.a367e59158748p-1, -0x1.a8779cda8eea4p-1, -0x1.ad663a8ae2fdbp-1,
    -0x1.b2335c2cda945p-1, -0x1.b6dea1e76eaddp-1, -0x1.bb67ae8584cabp-1, -0x1.bfce277d339c6p-1,
    -0x1.c411b4f6d2708p-1, -0x1.c83201d3d2c6cp-1, -0x1.cc2ebbb5638cap-1, -0x1.d0079302dd767p-1,
    -0x1.d3bc3aeff7f94p-1, -0x1.d74c6982c666fp-1, -0x1.dab7d7997cb57p-1, -0x1.ddfe40effb805p-1,
    -0x1.e11f642522d1bp-1, -0x1.e41b02bfeb4cbp-1, -0x1.e6f0e134454ffp-1, -0x1.e9a0c6e7bdb2p-1,
    -0x1.ec2a7e35e7b8p-1, -0x1.ee8dd4748bf14p-1, -0x1.f0ca99f79ba25p-1, -0x1.f2e0a214e870ep-1,
    -0x1.f4cfc327a008p-1, -0x1.f697d6938b6c2p-1, -0x1.f838b8c811c17p-1, -0x1.f9b24942fe45bp-1,
    -0x1.fb046a930947ap-1, -0x1.fc2f025a23e8bp-1, -0x1.fd31f94f867c6p-1, -0x1.fe0d3b41815a2p-1,
    -0x1.fec0b7170fff6p-1, -0x1.ff4c5ed12e61dp-1, -0x1.ffb0278bf0567p-1, -0x1.ffec097f5af8ap-1,
    -0x1p+0, -0x1.ffec097f5af8ap-1, -0x1.ffb0278bf0567p-1, -0x1.ff4c5ed12e61dp-1,
    -0x1.fec0b7170fff6p-1, -0x1.fe0d3b41815a2p-1, -0x1.fd31f94f867c6p-1, -0x1.fc2f025a23e8cp-1,
    -0x1.fb046a9309479p-1, -0x1.f9b24942fe45cp-1, -0x1.f838b8c811c17p-1, -0x1.f697d6938b6c2p-1,
    -0x1.f4cfc327a007fp-1, -0x1.f2e0a214e870fp-1, -0x1.f0ca99f79ba25p-1, -0x1.ee8dd4748bf15p-1,
    -0x1.ec2a7e35e7b8p-1, -0x1.e9a0c6e7bdb1fp-1, -0x1.e6f0e134455p-1, -0x1.e41b02bfeb4cap-1,
    -0x1.e11f642522d1cp-1, -0x1.ddfe40effb805p-1, -0x1.dab7d7997cb58p-1, -0x1.d74c6982c666fp-1,
    -0x1.d3bc3aeff7f95p-1, -0x1.d0079302dd768p-1, -0x1.cc2ebbb5638c9p-1, -0x1.c83201d3d2c6dp-1,
    -0x1.c411b4f6d2707p-1, -0x1.bfce277d339c7p-1, -0x1.bb67ae8584caap-1, -0x1.b6dea1e76eadep-1,
    -0x1.b2335c2cda946p-1, -0x1.ad663a8ae2fdcp-1, -0x1.a8779cda8eea6p-1, -0x1.a367e59158747p-1,
    -0x1.9e3779b97f4a9p-1, -0x1.98e6c0ea27a14p-1, -0x1.9376253f463d2p-1, -0x1.8de613515a327p-1,
    -0x1.8836fa2cf5039p-1, -0x1.82694b4a11c38p-1, -0x1.7c7d7a833bec2p-1, -0x1.7673fe0c86983p-1,
    -0x1.704d4e6a54d38p-1, -0x1.6a09e667f3bcep-1, -0x1.63aa430e0731p-1, -0x1.5d2ee398c9c2cp-1,
    -0x1.5698496e20bd7p-1, -0x1.4fe6f81384fd4p-1, -0x1.491b7523c161ep-1, -0x1.4236484487ac1p-1,
    -0x1.3b37fb1bdc937p-1, -0x1.342119455beb6p-1, -0x1.2cf2304755a5fp-1, -0x1.25abcf87c497bp-1,
    -0x1.1e4e88411fd1p-1, -0x1.16daed770771cp-1, -0x1.0f5193eacdd2bp-1, -0x1.07b3120fddf16p-1,
    -0x1p-1, -0x1.f071eedefa0e9p-2, -0x1.e0bd274245078p-2, -0x1.d0e2e2b44de03p-2,
    -0x1.c0e45dabe05cep-2, -0x1.b0c2d7737984ep-2, -0x1.a07f921061acfp-2, -0x1.901bd2298ffacp-2,
    -0x1.7f98deee59686p-2, -0x1.6ef801fced344p-2, -0x1.5e3a8748a0bf2p-2, -0x1.4d61bd000cddbp-2,
    -0x1.3c6ef372fe952p-2, -0x1.2b637cf83d5cep-2, -0x1.1a40add328e24p-2, -0x1.0907dc193068ep-2,
    -0x1.ef74bf2e4b91fp-3, -0x1.ccb3236cdc67ep-3, -0x1.a9cd9ac425906p-3, -0x1.86c6ddd766248p-3,
    -0x1.63a1a7e0b7389p-3, -0x1.4060b67a8537bp-3, -0x1.1d06c968d9e27p-3, -0x1.f32d44c4f62bdp-4,
    -0x1.ac2609b3c5764p-4, -0x1.64fd6b8c28108p-4, -0x1.1db8f6d6a513cp-4, -0x1.acbc748efc952p-5,
    -0x1.1de58c9f7dc09p-5, -0x1.1df0b2b89dd1ap-6, 0x0p+0, 0x1.1df0b2b89dcbp-6,
    0x1.1de58c9f7dc54p-5, 0x1.acbc748efc91ep-5, 0x1.1db8f6d6a5122p-4, 0x1.64fd6b8c280eep-4,
    0x1.ac2609b3c5749p-4, 0x1.f32d44c4f62e2p-4, 0x1.1d06c968d9e1ap-3, 0x1.4060b67a8536ep-3,
    0x1.63a1a7e0b737cp-3, 0x1.86c6ddd76625ap-3, 0x1.a9cd9ac4258f9p-3, 0x1.ccb3236cdc672p-3,
    0x1.ef74bf2e4b913p-3, 0x1.0907dc1930688p-2, 0x1.1a40add328e2dp-2, 0x1.2b637cf83d5c7p-2,
    0x1.3c6ef372fe94cp-2, 0x1.4d61bd000cdd5p-2, 0x1.5e3a8748a0bfap-2, 0x1.6ef801fced33ep-2,
    0x1.7f98deee5968p-2, 0x1.901bd2298ffa6p-2, 0x1.a07f921061ac9p-2, 0x1.b0c2d77379856p-2,
    0x1.c0e45dabe05c8p-2, 0x1.d0e2e2b44ddfep-2, 0x1.e0bd274245072p-2, 0x1.f071eedefa0f1p-2,
    0x1p-1, 0x1.07b3120fddf13p-1, 0x1.0f5193eacdd28p-1, 0x1.16daed7707719p-1,
    0x1.1e4e88411fd14p-1, 0x1.25abcf87c4978p-1, 0x1.2cf2304755a5cp-1, 0x1.342119455beb3p-1,
    0x1.3b37fb1bdc93bp-1, 0x1.4236484487abep-1, 0x1.491b7523c161cp-1, 0x1.4fe6f81384fd2p-1,
    0x1.5698496e20bd4p-1, 0x1.5d2ee398c9c2cp-1, 0x1.63aa430e0731p-1, 0x1.6a09e667f3bcbp-1,
    0x1.704d4e6a54d36p-1, 0x1.7673fe0c86984p-1, 0x1.7c7d7a833bec2p-1, 0x1.82694b4a11c36p-1,
    0x1.8836fa2cf5037p-1, 0x1.8de613515a325p-1, 0x1.9376253f463d2p-1, 0x1.98e6c0ea27a14p-1,
    0x1.9e3779b97f4a7p-1, 0x1.a367e59158745p-1, 0x1.a8779cda8eea6p-1, 0x1.ad663a8ae2fdcp-1,
    0x1.b2335c2cda945p-1, 0x1.b6dea1e76eadcp-1, 0x1.bb67ae8584ca8p-1, 0x1.bfce277d339c7p-1,
    0x1.c411b4f6d2707p-1, 0x1.c83201d3d2c6cp-1, 0x1.cc2ebbb5638c8p-1, 0x1.d0079302dd768p-1,
    0x1.d3bc3aeff7f96p-1, 0x1.d74c6982c666ep-1, 0x1.dab7d7997cb57p-1, 0x1.ddfe40effb803p-1,
    0x1.e11f642522d1cp-1, 0x1.e41b02bfeb4cbp-1, 0x1.e6f0e134454ffp-1, 0x1.e9a0c6e7bdb1ep-1,
    0x1.ec2a7e35e7b8p-1, 0x1.ee8dd4748bf15p-1, 0x1.f0ca99f79ba25p-1, 0x1.f2e0a214e870ep-1,
    0x1.f4cfc327a007fp-1, 0x1.f697d6938b6c2p-1, 0x1.f838b8c811c17p-1, 0x1.f9b24942fe45bp-1,
    0x1.fb046a9309479p-1, 0x1.fc2f025a23e8cp-1, 0x1.fd31f94f867c6p-1, 0x1.fe0d3b41815a2p-1,
    0x1.fec0b7170fff6p-1, 0x1.ff4c5ed12e61dp-1, 0x1.ffb0278bf0567p-1, 0x1.ffec097f5af8ap-1};

// Minimax polynomials for sine and cosine on [-pi/4, pi/4], within an ulp.
double SinNear(double x) {
  const double z = x * x, v = z * x;
  const double r = 8.33333333332248946124e-03 +
                   z * (-1.98412698298579493134e-04 +
                        z * (2.75573137070700676789e-06 + z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
  return x + v * (-1.66666666666666324348e-01 + z * r);
}

double CosNear(double x) {
  const double z = x * x, w = z * z;
  const double r = z * (4.16666666666666019037e-02 + z * (-1.38888888888741095749e-03 + z * 2.48015872894767294178e-05)) +
                   w * w * (-2.75573143513906633035e-07 + z * (2.08757232129817482790e-09 + z * -1.13596475577881948265e-11));
  const double hz = 0.5 * z, one = 1.0 - hz;
  return one + (((1.0 - one) - hz) + z * r);
}

// Sine (or cosine) of d in [0, 360). Each step is exact: d - 90q and 90 - a are
// differences of numbers within a factor of two of each other.
double Folded(double d, bool cosine) {
  int quarter = static_cast<int>(d / 90.0);  // the division may round up to the next
  double a = d - 90.0 * quarter;
  if (a < 0) a = d - 90.0 * --quarter;
  if (cosine) ++quarter;  // cos(d) = sin(d + 90)
  const bool swap = a > 45.0;
  if (swap) a = 90.0 - a;
  const double x = a * (std::numbers::pi / 180.0);
  // sin over the quarters: s, c, -s, -c of the angle within it.
  const bool odd = quarter % 2 == 1;
  const double value = odd != swap ? CosNear(x) : SinNear(x);
  return (quarter % 4) >= 2 ? -value : value;
}

double Reduced(double degrees) {
  double d = std::fmod(degrees, 360.0);
  if (d < 0) d += 360.0;
  // A tiny negative angle rounds to a whole turn.
  return d >= 360.0 ? 0.0 : d;
}

}  // namespace

double Sin(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  const double d = Reduced(degrees);
  const double whole = std::floor(d);
  if (whole == d) return kSinWhole[static_cast<int>(whole)];
  return Folded(d, false);
}

double Cos(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  const double d = Reduced(degrees);
  const double whole = std::floor(d);
  if (whole == d) return kCosWhole[static_cast<int>(whole)];
  return Folded(d, true);
}

}  // namespace plat
