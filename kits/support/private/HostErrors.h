/*
 * Private to the kits: translates host errno values into BeOS status codes.
 */
#ifndef _HOST_ERRORS_H
#define _HOST_ERRORS_H

#include <SupportDefs.h>

namespace BPrivate {

// The BeOS status code for a host errno value; B_ERROR for one the table does not know.
status_t host_error_to_status(int hostError);

} // namespace BPrivate

#endif // _HOST_ERRORS_H
