#pragma once
// Creates the eleven forms of the program once, in start-up order, and destroys them at the end.
// The program's entry point and the form tests both use these.

void CreateAllForms();
void DestroyAllForms();
