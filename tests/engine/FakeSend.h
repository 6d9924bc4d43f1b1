/*
 * Makes the network kit's sends come up short: the test program's own sendto() stands in
 * for the C library's, as FakeClock's time() does.
 */
#ifndef FAKE_SEND_H
#define FAKE_SEND_H

// The next `count` sends go out whole but report one byte less than they sent; the kit's
// attempt to send that byte again fails as on a broken pipe.
void shorten_next_sends(int count);

#endif // FAKE_SEND_H
