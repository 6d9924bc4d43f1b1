/*
 * Finds the drawing back end in its module the first time text or an image needs it.
 */
#include "DrawingBackEnd.h"

#include "KitModule.h"

namespace BPrivate {

DrawingBackEnd*
drawing_back_end()
{
	static DrawingBackEnd* backEnd = kit_module_object<DrawingBackEnd>("be_drawing",
		"be_drawing_back_end");
	return backEnd;
}

} // namespace BPrivate
