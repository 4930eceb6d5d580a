#include "net/drivers.h"

#include "mail/local_drivers.h"
#include "mail/parameters.h"
#include "net/imap_driver.h"
#include "net/tcp.h"

void link_all_drivers() {
  for (mail_driver* driver :
       {&imap_driver, &bezrkdos_driver, &tenexdos_driver, &dawz_driver, &dummy_driver}) {
    mail_link_driver(driver);
  }
  mail_link_transport_parameters(tcp_parameters);
}
