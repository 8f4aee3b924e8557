/* The application settings block shared with the host.
 *
 * acom is one process-wide block that the host and the library share through
 * this declaration: the host may read and write any field directly; the
 * library reads the fields below and offers validating accessors for some of
 * them.  Fields marked "host" are never read by the library.  The block is
 * zero at load.  New fields are only ever appended at the end.
 *
 * pxsfac holds the facet factors: [0] model units to metres, [1] a second
 * factor.
 */
#ifndef QUORM_ACOM_H
#define QUORM_ACOM_H

#include <quorm/records.h>

/* The library's "unset" value, stored by sys10 as an int and as a double. */
#define ACOM_UNSET_INT (-939)
#define ACOM_UNSET_DOUBLE (-939.0)

#define ACOM_ZEVHOST_INTS 64
#define ACOM_PENDING_DISPLAY_MAX 512

typedef struct acom_s {
    double v6054_z;          /* z of the last point given to v6054, in the WCS */
    double model_scale;      /* ACOM_ask_MEC: scales the length tolerance */
    double name_char_size;   /* name display character size */
    double eq_tol[8];        /* equality-tolerance table (see toler.h) */
    MTX3_s wcs_matrix;       /* WCS axes as rows */
    double wcs_origin[3];    /* WCS origin */
    double host_doubles[16]; /* host */

    int zevhost[ACOM_ZEVHOST_INTS];                  /* LIBQUORM_init_zevhost: [0] = 1, [4] = 512 */
    int pending_display_count;                       /* pending display list: count ... */
    int pending_display[ACOM_PENDING_DISPLAY_MAX];   /* ... and entries */
    int system_color;                                /* 1 to 216 */
    int cu0007;                                      /* value of cu0007 / cu0008 */
    int face_grid_counts[2];                         /* default face grid counts (u, v), 0 to 10000 */
    int line_font_symbol_display;                    /* 1 on, 2 off */
    int display_flags;                               /* bit 0 view bounds, bit 1 view names, bit 3 not only work view */
    int chaining_method;                             /* ACOM_chaining_method_t, 1 to 4 */
    int decimal_places;                              /* decimal places for display */
    int hatching_flags;                              /* bit 2 set while there has never been any hatching */
    int application;                                 /* application number */

    /* sys10 (mode != 1) clears the 21 ints from in_trell to the end of
     * host_wcs_state. */
    int in_trell;                     /* 1 while running in the batch language */
    int fine_tolerance;               /* fine-tolerance flag for sys21 */
    unsigned wcs_view_names_skeleton; /* WCS view-names skeleton identifier */
    unsigned wcs_skeleton;            /* WCS skeleton identifier */
    unsigned wcs_matrix_tag;          /* WCS matrix identifier */
    int wcs_not_linked;               /* 0 when the WCS is linked to the view */
    int wcs_permanent;                /* 1 when permanent */
    int wcs_display;                  /* WCS display status 0 or 1 (temporary when 1) */
    unsigned wcs_tag;                 /* WCS identifier */
    int host_wcs_state[12];           /* host */

    int mesw;                /* ACOM_ask_MESW */
    int batch_mode;          /* batch mode when 2 */
    int view_of_last_cursor; /* 0: no view */
    int host_b120a[21];      /* host: cleared by b120a */
} acom_s;

typedef struct PXSFACTYP {
    double model_to_metres;
    double second_factor;
} PXSFACTYP;

QUORM_BEGIN_DECLS

QUORM_API extern acom_s acom;
QUORM_API extern PXSFACTYP pxsfac;

/* The model-scale value. */
QUORM_API double ACOM_ask_MEC(void);

QUORM_END_DECLS

#endif
