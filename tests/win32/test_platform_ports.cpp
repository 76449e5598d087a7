#include <gtest/gtest.h>

#include "platform_ports.h"

namespace rm::win {
namespace {

TEST(Win32Net, AHostTheEndpointCannotTakeIsTellableFromOtherSendErrors) {
    TNMUDP endpoint(GetModuleHandleW(nullptr));
    endpoint.RemotePort = 45999;
    Win32Net net({nullptr, &endpoint, nullptr});
    EXPECT_THROW(net.Send(Endpoint::RV_UDP, std::string(128, 'a'), "x"), RemoteHostRejected);
    try {
        net.Send(Endpoint::RV_UDP, "0.0.0.0", "x");
        ADD_FAILURE() << "no error for 0.0.0.0";
    } catch (const RemoteHostRejected&) {
        ADD_FAILURE() << "0.0.0.0 is a destination error, not a rejected host";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Null Remote Address");
    }
}

TEST(Win32Net, SendsNothingOnceTheEndpointsAreReleased) {
    Win32Net net({nullptr, nullptr, nullptr});
    EXPECT_NO_THROW(net.Send(Endpoint::RV_UDP, "127.0.0.1", "x"));
}

}  // namespace
}  // namespace rm::win
