/*
 * BArchivable and the functions that re-create archived objects. Instantiation looks for the
 * class's Instantiate function among the images loaded into the team.
 */
#ifndef _ARCHIVABLE_H
#define _ARCHIVABLE_H

#include <OS.h>
#include <SupportDefs.h>

class BMessage;

#define B_CLASS_FIELD "class"
#define B_ADD_ON_FIELD "add_on"

class BArchivable {
public:
	BArchivable();
	BArchivable(BMessage* from);
	virtual ~BArchivable();

	virtual status_t Archive(BMessage* into, bool deep = true) const;
	static BArchivable* Instantiate(BMessage* from);
};

typedef BArchivable* (*instantiation_func)(BMessage*);

BArchivable* instantiate_object(BMessage* from, image_id* id);
BArchivable* instantiate_object(BMessage* from);
bool validate_instantiation(BMessage* from, const char* className);
instantiation_func find_instantiation_func(const char* className, const char* signature);
instantiation_func find_instantiation_func(const char* className);
instantiation_func find_instantiation_func(BMessage* archive);

#endif // _ARCHIVABLE_H
