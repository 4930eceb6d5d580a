#pragma once

#include <cstdlib>
#include <string>

// A self-signed certificate made with `openssl req` for the names given (a
// subjectAltName list such as "DNS:localhost"), with its key, in the folder:
// FOLDER/NAME.pem and FOLDER/NAME.key; an expired one ended a day ago. False
// when openssl failed.
inline bool make_test_certificate(const std::string& folder, const std::string& name,
                                  const std::string& alt_names, bool expired = false) {
  const std::string base = folder + "/" + name;
  const std::string key =
      "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes "
      "-subj /CN=kestrel-test -addext subjectAltName=" +
      alt_names + " -keyout " + base + ".key";
  // `openssl req` dates only forward; `openssl x509` signs one that ended.
  std::string command =
      expired ? key + " -out " + base + ".csr 2>/dev/null && openssl x509 -req -in " + base +
                    ".csr -key " + base + ".key -days -1 -copy_extensions copy -out " + base +
                    ".pem 2>/dev/null"
              : key + " -x509 -days 2 -out " + base + ".pem 2>/dev/null";
  return std::system(command.c_str()) == 0;
}
