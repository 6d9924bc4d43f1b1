/*
 * Names shared by the launcher and the replicant.
 */
#ifndef ZORVE_CONSTANTS_H
#define ZORVE_CONSTANTS_H

// The application's signature; also the "add_on" value of the replicant's archive.
const char* const kAppSignature = "application/x-vnd.Orbel.Zorve";
// The Deskbar item's name: the replicant view's class name and view name.
const char* const kReplicantName = "ZorveReplicant";

#endif // ZORVE_CONSTANTS_H
