#include "DeskbarHostInterface.h"

#include <atomic>

namespace BPrivate {

namespace {

std::atomic<DeskbarHostInterface*> sInstance(nullptr);

} // namespace

DeskbarHostInterface::~DeskbarHostInterface()
{
}

void
DeskbarHostInterface::SetInstance(DeskbarHostInterface* host)
{
	sInstance = host;
}

DeskbarHostInterface*
DeskbarHostInterface::Instance()
{
	return sInstance.load();
}

} // namespace BPrivate
