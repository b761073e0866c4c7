// The project settings in a .square file: an optional "Project_Settings"
// element after "Length", which a reader that does not know it passes over:
//
//   <Project_Settings>
//       <Uncertainty>
//           <Ball_Bar>
//               <Constant_um>1</Constant_um>
//               <Proportional_um_per_m>1</Proportional_um_per_m>
//           </Ball_Bar>
//           <Length>
//               <Constant_um>0.5</Constant_um>
//               <Proportional_um_per_m>0.5</Proportional_um_per_m>
//           </Length>
//       </Uncertainty>
//   </Project_Settings>
//
// Numbers are written in their shortest form that reads back exactly. The
// project information follows as an element of its own (projectinformationfile.h).
#ifndef PROJECTSETTINGSFILE_H
#define PROJECTSETTINGSFILE_H

#include "projectsettings.h"

class TXmlFile;

// Adds the settings and the information to the root; default settings and
// empty information add nothing, so such a project is written as before they
// existed.
void Write_Project_Settings(TXmlFile* xml_file, const TProjectSettings& settings);
// The settings and information of the file: the defaults where the file has
// none. A value that is not a finite number of 0 or more throws a
// TXmlFileException naming it.
TProjectSettings Read_Project_Settings(TXmlFile* xml_file);

// The "Project_Settings" element alone.
void Write_Uncertainty_Settings(TXmlFile* xml_file, const TUncertaintySettings& settings);
TUncertaintySettings Read_Uncertainty_Settings(TXmlFile* xml_file);

#endif
