#ifndef APPIDENTITY_H
#define APPIDENTITY_H

// Name, version and maker of the program; set before any window exists.
void setApplicationIdentity();

#endif
