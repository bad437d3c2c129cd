#include "export/ExportQueries.h"

// The texts are kept exactly as the engine has always been given them, blank
// lines and double blanks included.
namespace ExportQueries {

const QString MoveTask = QStringLiteral(R"(SELECT DISTINCT
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
  PH.Name, P.Desct)");

const QString MoveCat = QStringLiteral(R"(SELECT DISTINCT
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
  PH.Name, K.Name)");

const QString MoveLib = QStringLiteral(R"(SELECT DISTINCT
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
  PH.Name, L.Name)");

const QString MaterialPhase = QStringLiteral(R"(SELECT DISTINCT
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
  PH.Name)");

const QString Phases = QStringLiteral(R"(SELECT DISTINCT
  SUM(Time_Qty) AS Time_Qty, SUM(Time_Value)  AS Time_Value,
  PhaseName, PhaseDesct, PhaseID

FROM
  "tmpHVN.db"

GROUP BY
  PhaseID, PhaseName, PhaseDesct


ORDER BY
  PhaseName)");

const QString Labor = QStringLiteral(R"(SELECT DISTINCT
  SUM(Time_Qty) AS Time_Qty, SUM(Time_Value) AS Time_Value,
  ProdID, Task, ExportName

FROM
  "tmpHVN.db"

GROUP BY
  ProdID, Task, ExportName

ORDER BY
  Task)");

const QString LaborPhase = QStringLiteral(R"(SELECT * FROM "tmpHVN.db")");

} // namespace ExportQueries
