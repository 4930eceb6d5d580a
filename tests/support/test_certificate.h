#pragma once

#include <cstdlib>
#include <string>

// A self-signed certificate made with `openssl req` for the names given (a
// subjectAltName list such as "DNS:localhost"), with its key, in the folder:
// FOLDER/NAME.pem and FOLDER/NAME.key. False when openssl failed.
inline bool make_test_certificate(const std::string& folder, const std::string& name,
                                  const std::string& alt_names) {
  std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 "
      "-nodes -days 2 -subj /CN=kestrel-test -addext subjectAltName=" +
      alt_names + " -keyout " + folder + "/" + name + ".key -out " + folder + "/" + name +
      ".pem 2>/dev/null";
  return std::system(command.c_str()) == 0;
}
