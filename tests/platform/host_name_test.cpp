#include "platform/host_name.h"

#include <gtest/gtest.h>
#include <netdb.h>
#include <unistd.h>

#include "platform/environment.h"
#include "tests/support/loopback.h"

// Both run in a child: the name is computed once per process.
TEST(LocalHostName, IsTheOfficialNameOfThisMachine) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  char plain[256] = {};
  ASSERT_EQ(gethostname(plain, sizeof plain - 1), 0);
  std::string expected = plain;
  addrinfo hints{};
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  if (getaddrinfo(plain, nullptr, &hints, &found) == 0) {
    if (found->ai_canonname) expected = found->ai_canonname;
    freeaddrinfo(found);
  }
  EXPECT_EXIT(
      {
        bool computed = local_host_name() == expected;
        auto* shared = static_cast<const char*>(env_parameters(GET_LOCAL_HOST, nullptr));
        std::exit(computed && shared && shared == expected ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(LocalHostName, ANameSetThroughTheParameterIsKept) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        char name[] = "mail.example.cn";
        env_parameters(SET_LOCAL_HOST, name);
        std::exit(local_host_name() == "mail.example.cn" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(SocketLocalName, IsTheBracketedAddress) {
  int datagram = loopback_socket(SOCK_DGRAM, 0, nullptr);
  EXPECT_EQ(socket_local_name(datagram), "[127.0.0.1]");
  close(datagram);
  EXPECT_EQ(socket_local_name(-1), "random-pc");
}
