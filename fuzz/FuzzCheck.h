/*
 * For the fuzz targets: a broken expectation aborts, which libFuzzer reports as a finding.
 */
#ifndef FUZZ_CHECK_H
#define FUZZ_CHECK_H

#include <stdlib.h>

namespace {

void
Check(bool condition)
{
	if (!condition)
		abort();
}

} // namespace

#endif // FUZZ_CHECK_H
