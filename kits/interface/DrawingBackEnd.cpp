/*
 * Finds the drawing back end in its module the first time text or an image needs it.
 */
#include "DrawingBackEnd.h"

#include "KitModule.h"

namespace BPrivate {

DrawingBackEnd*
drawing_back_end()
{
	static DrawingBackEnd* backEnd = [] {
		typedef DrawingBackEnd* (*EntryPoint)();
		EntryPoint entry = (EntryPoint)kit_module_symbol("be_drawing", "be_drawing_back_end");
		return entry != NULL ? entry() : (DrawingBackEnd*)NULL;
	}();
	return backEnd;
}

} // namespace BPrivate
