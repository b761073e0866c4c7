// The project information in a .square file: an optional "Project_Information"
// element after "Project_Settings" (or after "Length" when the settings are
// the defaults), which a reader that does not know it passes over. Only what
// is given is written, each value as the text of its own element:
//
//   <Project_Information>
//       <Machine>
//           <Maker>…</Maker>
//           <Model>…</Model>
//           <Serial_Number>…</Serial_Number>
//       </Machine>
//       <Customer>…</Customer>
//       <Operator>…</Operator>
//       <Measurement_Date>2026-12-09</Measurement_Date>
//       <Instruments>
//           <Instrument>
//               <Name>…</Name>
//               <Serial_Number>…</Serial_Number>
//               <Certificate>…</Certificate>
//           </Instrument>
//       </Instruments>
//       <Air_Temperature_C>20.1</Air_Temperature_C>
//       <Machine_Temperature_C>20.4</Machine_Temperature_C>
//       <Notes>…</Notes>
//   </Project_Information>
#ifndef PROJECTINFORMATIONFILE_H
#define PROJECTINFORMATIONFILE_H

#include "projectinformation.h"

class TXmlFile;

// Adds the element to the root; empty information adds nothing, so such a
// project is written as before the information existed.
void Write_Project_Information(TXmlFile* xml_file, const TProjectInformation& information);
// The information of the file, empty where it has none. A date that is not
// written YYYY-MM-DD or a temperature that is not a finite number throws a
// TXmlFileException naming it.
TProjectInformation Read_Project_Information(TXmlFile* xml_file);

#endif
