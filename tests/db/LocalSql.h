#pragma once

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

inline constexpr const char* MoveTask = R"(SELECT DISTINCT
  SUM(C.Qty) AS Time_Qty, SUM(C.Cost) AS Time_Value,
  P.Link_Prod as ProdID, P.Desct AS Task, P.Export AS ExportName,
  PH.Name AS PhaseName, PH.Desct AS PhaseDesct, PH.Link_Phs AS PhaseID

FROM
  "ostr_cst.db" AS C
  JOIN  "product.db" AS P ON (P.Link_Prod = C.Link_Cost)
  JOIN  "ostr_prd.db" AS T ON (T.Link_OstranePrd = C.Link_OstranePrd)
  JOIN  "phase.db" AS PH ON (T.Link_Phs = PH.Link_Phs)

WHERE
 (C.GrpType = "L")

GROUP BY
PH.Link_Phs, PH.Name, PH.Desct, P.Link_Prod, P.Desct, P.Export

ORDER BY
  PH.Name, P.Desct)";

inline constexpr const char* MoveCat = R"(SELECT DISTINCT
  SUM(C.Qty) AS Time_Qty, SUM(C.Cost) AS Time_Value,
  0 as ProdID, K.Name AS Task, K.Export AS ExportName,
  PH.Name AS PhaseName, PH.Desct AS PhaseDesct, PH.Link_Phs AS PhaseID

FROM
  "ostr_cst.db" AS C
  JOIN  "product.db" AS P ON (P.Link_Prod = C.Link_Cost)
  JOIN  "prod_cat.db" AS K ON (P.Link_cat = K.Link_cat)
  JOIN  "ostr_prd.db" AS T ON (T.Link_OstranePrd = C.Link_OstranePrd)
  JOIN  "phase.db" AS PH ON (T.Link_Phs = PH.Link_Phs)

WHERE
 (C.GrpType = "L")

GROUP BY
PH.Link_Phs, PH.Name, PH.Desct, K.Name, K.Export

ORDER BY
  PH.Name, K.Name)";

inline constexpr const char* MoveLib = R"(SELECT DISTINCT
  SUM(C.Qty) AS Time_Qty, SUM(C.Cost) AS Time_Value,
  0 as ProdID, L.Name AS Task, L.Export AS ExportName,
  PH.Name AS PhaseName, PH.Desct AS PhaseDesct, PH.Link_Phs AS PhaseID

FROM
  "ostr_cst.db" AS C
  JOIN  "product.db" AS P ON (P.Link_Prod = C.Link_Cost)
  JOIN  "prod_cat.db" AS K ON (P.Link_cat = K.Link_cat)
  JOIN  "prod_lib.db" AS L ON (K.Link_lib = L.Link_lib)
  JOIN  "ostr_prd.db" AS T ON (T.Link_OstranePrd = C.Link_OstranePrd)
  JOIN  "phase.db" AS PH ON (T.Link_Phs = PH.Link_Phs)

WHERE
 (C.GrpType = "L")

GROUP BY
PH.Link_Phs, PH.Name, PH.Desct, L.Name, L.Export

ORDER BY
  PH.Name, L.Name)";

inline constexpr const char* MaterialPhase = R"(SELECT DISTINCT
  SUM(C.Cost) AS Material_Value,
  PH.Name AS PhaseName, PH.Link_Phs AS PhaseID

FROM
  "ostr_cst.db" AS C
  JOIN  "ostr_prd.db" AS T ON (T.Link_OstranePrd = C.Link_OstranePrd)
  JOIN  "phase.db" AS PH ON (T.Link_Phs = PH.Link_Phs)

WHERE
 (C.GrpType = "C")

GROUP BY
PH.Link_Phs, PH.Name

ORDER BY
  PH.Name)";

inline constexpr const char* Phases = R"(SELECT DISTINCT
  SUM(Time_Qty) AS Time_Qty, SUM(Time_Value)  AS Time_Value,
  PhaseName, PhaseDesct, PhaseID

FROM
  "tmpHVN.db"

GROUP BY
  PhaseID, PhaseName, PhaseDesct


ORDER BY
  PhaseName)";

inline constexpr const char* Labor = R"(SELECT DISTINCT
  SUM(Time_Qty) AS Time_Qty, SUM(Time_Value) AS Time_Value,
  ProdID, Task, ExportName

FROM
  "tmpHVN.db"

GROUP BY
  ProdID, Task, ExportName

ORDER BY
  Task)";

inline constexpr const char* LaborPhase = R"(SELECT * FROM "tmpHVN.db")";

} // namespace LocalSql
