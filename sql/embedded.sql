-- For the embedded engine only (SQL Server has no table qel_trigram): the
-- text columns that the search dialogs read with LIKE '%text%'. The engine
-- keeps a trigram index of each declared column, built when the declaration
-- is added (or when a file that declares one is next opened) and kept in
-- step with the table; a search then reads the rows that hold the text
-- instead of the whole table. Another column is added the same way:
--   qel-db --server sqlite:FOLDER --database ACME trigram-index TABLE COLUMN
-- Run after business.sql.
Insert Into qel_trigram (table_name, column_name) Values ('Product', 'ThaiName')
GO
Insert Into qel_trigram (table_name, column_name) Values ('Product', 'EngName')
GO
Insert Into qel_trigram (table_name, column_name) Values ('Customer', 'Name')
GO
