/*
 * Faults of the host's sockets for the network kit under test: the test program's own
 * sendto() and socket() stand in for the C library's, as FakeClock's time() does.
 */
#ifndef FAKE_SOCKET_H
#define FAKE_SOCKET_H

// The next `count` sends go out whole but report one byte less than they sent; the kit's
// attempt to send that byte again fails as on a broken pipe.
void shorten_next_sends(int count);

// The next socket is asked for with the process's descriptor limit lowered to the descriptors
// already open, so that it cannot be had.
void limit_next_socket();

#endif // FAKE_SOCKET_H
