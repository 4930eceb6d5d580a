#pragma once

// Links every mail driver in the order names are recognised: "imap2",
// "bezrkdos", "tenexdos", "dawz", "dummy"; and the TCP layer's parameters
// into mail_parameters. The same list results however often it is called.
void link_all_drivers();
