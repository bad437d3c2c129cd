#pragma once

#include "export/ExportQueries.h"

// The SQL texts that the program runs, exactly as it runs them.
namespace LocalSql {

inline constexpr const char* Checklist = R"(SELECT
  PH.Name, PH.Desct, PH.Link_Phs, SUM(T.Qty) As ItemCount, COUNT(T.Qty) As LineCount
FROM
  "phase.db" AS PH, "Ostr_prd.db" AS T
WHERE
   PH.Link_Phs=T.Link_Phs
GROUP BY
   PH.Name, PH.Desct, PH.Link_Phs
ORDER BY
  PH.Name)";

inline constexpr const char* Items =
    R"(SELECT DISTINCT d2.Name AS PHASE, d3.Name AS LOCATION, d1.Qty AS Quantity, d4.Desct AS Product,  d5.Name AS UOM, d1.LabQty1, d1.LabQty2,
 d1.Link_OstranePrd AS OstraneID, d1.Link_Phs as PhaseID
FROM "ostr_prd.db" d1, "phase.db" d2, "Location.db" d3, "product.db" d4, "uom.db" d5
WHERE
  (d1.Link_Phs = d2.Link_PHS)
 AND (d1.Link_loc = d3.Link_loc)
 AND (d1.Link_prod = d4.Link_prod)
 AND (d4.Link_Uom = d5.Link_UOM)
ORDER BY d2.Name, d3.Name, d1.Link_OstranePrd)";

inline constexpr const char* TasksByLibrary =
    "SELECT L.Export, L.Name FROM Prod_Lib AS L WHERE Lib_level=1 ORDER BY Export, Name";
inline constexpr const char* TasksByCategory =
    "SELECT C.Export, C.Name FROM Prod_Lib AS L JOIN Prod_Cat AS C ON "
    "(Prod_Lib.Link_Lib=Prod_cat.Link_Lib) WHERE Lib_level=1 ORDER BY C.Export, C.Name";
inline constexpr const char* TasksByLabourTask =
    R"(SELECT P.Export, P.Desct AS Name FROM Product AS P WHERE (P.Type="L0")OR(P.Type="L1") ORDER BY Export, Name)";

inline constexpr const char* Projects =
    "Select * from Projname where not(Projname.reservedlibrary =1)";

// The export's texts are the program's own.
using ExportQueries::Labor;
using ExportQueries::LaborPhase;
using ExportQueries::MaterialPhase;
using ExportQueries::MoveCat;
using ExportQueries::MoveLib;
using ExportQueries::MoveTask;
using ExportQueries::Phases;

} // namespace LocalSql
